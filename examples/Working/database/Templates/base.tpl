Group
{
	name = "All Groups"
	type = "list"

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "ActorName"
			class = "variable"
			type = "string"
			description = "Name shown in the editor"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "Class"
			class = "static"
			type = "string"
			description = "Engine class of the record"
			value = ""
			defaultValue = "BaseObject"
		}

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What this record is for"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Common"
		type = "list"

		Variable
		{
			name = "displayName"
			class = "variable"
			type = "string"
			description = "Name shown in game"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "description"
			class = "variable"
			type = "file_txt"
			description = "Text resource"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "scale"
			class = "variable"
			type = "real"
			description = "Uniform scale"
			value = ""
			defaultValue = "1.0"
		}

		Variable
		{
			name = "hidden"
			class = "variable"
			type = "bool"
			description = "Hidden from the player"
			value = ""
			defaultValue = "0"
		}

	}

}

